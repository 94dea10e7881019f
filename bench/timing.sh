# Sourced by the shell benchmarks: the time now, and what they print of their runs.
now() { date +%s%N; }
# The median of the values given (in ns).
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# "median min max" of the values given (in ns), in ms.
stats() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%.2f %.2f %.2f", a[int((NR+1)/2)]/1e6, a[1]/1e6, a[NR]/1e6}'; }
