# The soak's plot: every sampled count against the real minutes of the run.
#   gnuplot -e "csv='soak.csv'; out='soak.png'; minutes='30'; speed='360'" plot.gp
set terminal pngcairo size 1200,900 font ",10"
set output out
set datafile separator ","
set key autotitle columnhead top left
set multiplot layout 3,2 title sprintf("Vesk Clock soak: %s min real at x%s (Europe/Berlin; phases: year, spring DST, autumn DST)", minutes, speed)
set xlabel "real minutes"
set grid
set yrange [0:*]
set offsets 0, 0, graph 0.08, 0
set title "GDI objects"
plot csv using ($1/60):4 with linespoints pt 7 ps 0.4 lc rgb "#1f77b4"
set title "USER objects (the process's windows under Wine)"
plot csv using ($1/60):5 with linespoints pt 7 ps 0.4 lc rgb "#ff7f0e"
set title "handles"
plot csv using ($1/60):7 with linespoints pt 7 ps 0.4 lc rgb "#2ca02c"
set title "working set and private memory (MiB)"
plot csv using ($1/60):($8/1024) with linespoints pt 7 ps 0.4 lc rgb "#d62728" title "working set", \
     csv using ($1/60):($9/1024) with linespoints pt 7 ps 0.4 lc rgb "#9467bd" title "private"
set title "resident memory of the wine process (MiB)"
plot csv using ($1/60):($10/1024) with linespoints pt 7 ps 0.4 lc rgb "#8c564b" title "VmRSS"
set title "error boxes, chimes and driver actions (cumulative)"
set y2tics
set ytics nomirror
plot csv using ($1/60):11 with steps lw 2 lc rgb "red" title "error boxes", \
     csv using ($1/60):12 with steps lw 2 lc rgb "#17becf" title "chimes", \
     csv using ($1/60):13 axes x1y2 with lines lc rgb "gray" title "actions (right axis)"
unset multiplot
