#!/bin/sh
# Stands in for lpc21isp in the tests: DK61_FAKE_ISP_MODE chooses what it does. It writes its
# arguments, one a line, to the file DK61_FAKE_ISP_ARGS and its process id to DK61_FAKE_ISP_PID
# (hang: then that of the process it leaves running).
printf '%s\n' "$@" >"$DK61_FAKE_ISP_ARGS"
echo $$ >"$DK61_FAKE_ISP_PID"
echo "Synchronizing (ESC to abort). OK"
case "$DK61_FAKE_ISP_MODE" in
windows) printf 'Will start at Sector 1\r\nSector 1: ..\r\nSector 0: ..\r\n' ;;
exit1) printf 'Sector 1: ..\nWrong answer on Prepare-Command (1) (Sector 2)\n'; exit 1 ;;
unverified) printf 'Sector 1: ..\n'; exit 0 ;;
split) printf 'Sec'; sleep 0.2; printf 'tor 3: ..\nSector 1'; sleep 0.2; printf '2: ..\n' ;;
hang) sleep 600 & echo $! >>"$DK61_FAKE_ISP_PID"; printf 'Sector 1: '; wait ;;
silent) echo "Download Finished and Verified correct..."; exec sleep 600 ;;
flood) yes 'Sector 1: ....' | head -n 20000; head -c 100000 /dev/zero | tr '\0' .; echo ;;
esac
echo "Download Finished and Verified correct... taking 1 seconds"
