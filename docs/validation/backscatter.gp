set terminal pngcairo size 1000,700 font 'DejaVu Sans,10'
set output 'backscatter.png'
set grid
set xlabel 'tube voltage (kV), 2.5 mm Al'
set ylabel 'scatter / primary'
set key outside right
plot for [f=0:2] 'backscatter.dat' using 1:(column(2+4*f)) with linespoints pt 7 lc f+1 title sprintf('B - 1, %d cm', f==0?10:f==1?20:30), for [f=0:2] 'backscatter.dat' using 1:(column(3+4*f)) with linespoints pt 5 dt 2 lc f+1 title sprintf('Veltrim row 1, %d cm', f==0?10:f==1?20:30), for [f=0:2] 'backscatter.dat' using 1:(column(4+4*f)) with linespoints pt 9 dt 3 lc f+1 title sprintf('Veltrim at surface, %d cm', f==0?10:f==1?20:30), for [f=0:2] 'backscatter.dat' using 1:(column(5+4*f)) with points pt 6 lc f+1 title sprintf('divergent FSD 100, %d cm', f==0?10:f==1?20:30)
