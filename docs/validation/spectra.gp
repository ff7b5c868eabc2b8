set terminal pngcairo size 1000,700 font 'DejaVu Sans,10'
set output 'spectra.png'
set multiplot layout 1,3
set grid
set xlabel 'photon energy (keV)'
set ylabel 'fraction of photons per 0.5 keV'
set key top right
set title '50 kV'
plot 'spectrum-50kV-1.dat' using 1:2 with lines lw 1.5 title 'constant potential', 'spectrum-50kV-2.dat' using 1:2 with lines lw 1.5 title 'three-phase 12-peak', 'spectrum-50kV-3.dat' using 1:2 with lines lw 1.5 title 'single-phase full-wave'
set title '80 kV'
plot 'spectrum-80kV-1.dat' using 1:2 with lines lw 1.5 title 'constant potential', 'spectrum-80kV-2.dat' using 1:2 with lines lw 1.5 title 'three-phase 12-peak', 'spectrum-80kV-3.dat' using 1:2 with lines lw 1.5 title 'single-phase full-wave'
set title '120 kV'
plot 'spectrum-120kV-1.dat' using 1:2 with lines lw 1.5 title 'constant potential', 'spectrum-120kV-2.dat' using 1:2 with lines lw 1.5 title 'three-phase 12-peak', 'spectrum-120kV-3.dat' using 1:2 with lines lw 1.5 title 'single-phase full-wave'
unset multiplot
