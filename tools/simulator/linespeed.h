#pragma once

// The bit rate the reader set on the line (the slave's output speed, read through the master),
// or -1 where it cannot be read.
long lineSpeed(int masterFd);
