#ifndef RESULTSV1_H
#define RESULTSV1_H

// The results database as the first released version of the program made it (schema version 1):
// its tables exactly, and its version noted, for tests that take such a database further.
inline const char* const ResultsV1Schema[] = {
    "CREATE TABLE IF NOT EXISTS schema_version (id INTEGER PRIMARY KEY CHECK (id = 1), version "
    "INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS runs (run_id TEXT PRIMARY KEY, station TEXT NOT NULL DEFAULT '', "
    "started_at TEXT NOT NULL DEFAULT '', ended_at TEXT NOT NULL DEFAULT '', serial_number TEXT "
    "NOT NULL DEFAULT '', customer_id TEXT NOT NULL DEFAULT '', firmware TEXT NOT NULL DEFAULT "
    "'', unit_id TEXT NOT NULL DEFAULT '', records BIGINT NOT NULL DEFAULT 0, interval_ms BIGINT "
    "NOT NULL DEFAULT 0, c1_total BIGINT NOT NULL DEFAULT 0, c1u_total BIGINT NOT NULL DEFAULT 0, "
    "c2_total BIGINT NOT NULL DEFAULT 0, c2u_total BIGINT NOT NULL DEFAULT 0, interp_total BIGINT "
    "NOT NULL DEFAULT 0, bler_max_10s DOUBLE PRECISION NOT NULL DEFAULT 0, e32_total BIGINT NOT "
    "NULL DEFAULT 0, verdict_standard TEXT NOT NULL DEFAULT '', verdict_limits TEXT NOT NULL "
    "DEFAULT '', flag_file TEXT NOT NULL DEFAULT '', finished INTEGER NOT NULL DEFAULT 0, "
    "revision BIGINT NOT NULL DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS runs_started_at ON runs (started_at)",
    "INSERT INTO schema_version (id, version) VALUES (1, 1)",
};

#endif // RESULTSV1_H
