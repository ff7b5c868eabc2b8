set terminal pngcairo size 1000,700 font 'DejaVu Sans,10'
set output 'pdd.png'
set multiplot layout 2,2
set grid
set logscale y
set yrange [0.1:110]
set xrange [0:30]
set xlabel 'depth (cm)'
set ylabel 'PDD (%)'
set key bottom left
set title '60 kV, 2.5 mm Al'
plot 'pdd-60kV-10-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '10x10 FSD 60', 'pdd-60kV-20-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '20x20 FSD 60', 'pdd-60kV-30-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '30x30 FSD 60', 'pdd-60kV-10-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '10x10 FSD 100', 'pdd-60kV-20-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '20x20 FSD 100', 'pdd-60kV-30-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '30x30 FSD 100'
set title '80 kV, 2.5 mm Al'
plot 'pdd-80kV-10-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '10x10 FSD 60', 'pdd-80kV-20-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '20x20 FSD 60', 'pdd-80kV-30-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '30x30 FSD 60', 'pdd-80kV-10-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '10x10 FSD 100', 'pdd-80kV-20-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '20x20 FSD 100', 'pdd-80kV-30-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '30x30 FSD 100'
set title '100 kV, 2.5 mm Al'
plot 'pdd-100kV-10-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '10x10 FSD 60', 'pdd-100kV-20-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '20x20 FSD 60', 'pdd-100kV-30-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '30x30 FSD 60', 'pdd-100kV-10-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '10x10 FSD 100', 'pdd-100kV-20-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '20x20 FSD 100', 'pdd-100kV-30-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '30x30 FSD 100'
set title '120 kV, 2.5 mm Al'
plot 'pdd-120kV-10-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '10x10 FSD 60', 'pdd-120kV-20-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '20x20 FSD 60', 'pdd-120kV-30-fsd60.dat' using 1:2 with lines lw 1.5 dt 2 title '30x30 FSD 60', 'pdd-120kV-10-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '10x10 FSD 100', 'pdd-120kV-20-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '20x20 FSD 100', 'pdd-120kV-30-fsd100.dat' using 1:2 with lines lw 1.5 dt 1 title '30x30 FSD 100'
unset multiplot
