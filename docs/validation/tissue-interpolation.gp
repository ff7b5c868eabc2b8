set terminal pngcairo size 1000,700 font 'DejaVu Sans,10'
set output 'tissue-interpolation.png'
set xlabel 'photon energy (keV)'
set ylabel 'interpolated / xraylib - 1 (%)'
set grid
plot 'tissue-interpolation.dat' using 1:2 with linespoints pt 7 ps 0.4 title 'ICRUSoft.dat, log-log between rows'
