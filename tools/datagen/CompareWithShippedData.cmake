# Regenerates the tables into OUT with DATAGEN and compares every file byte
# for byte with the shipped copy in DATA.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${DATAGEN} --out ${OUT} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "veltrim-datagen failed (${status})")
endif()
set(differing "")
foreach(name Tungsten.dat Aluminum.atc Copper.dat ICRUSoft.dat Primary.dat AirKerma.dat
             AirAttenuation.dat media/water/ICRUSoft.dat media/water/Primary.dat
             media/icru-44/ICRUSoft.dat media/icru-44/Primary.dat media/pmma/ICRUSoft.dat
             media/pmma/Primary.dat)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${DATA}/${name}
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND differing ${name})
  endif()
endforeach()
if(differing)
  message(FATAL_ERROR "regenerated tables differ from data/: ${differing}")
endif()
