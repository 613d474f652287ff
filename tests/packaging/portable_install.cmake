# Installs the build into OUT/programs and runs the programs from there in
# OUT/work: the interface program saves its settings beside itself (and finds
# its help file there), the driver runs a job.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/work)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${OUT}/programs
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${out}${err}")
endif()

foreach(f Pelko_Programm Tarvik Pelko_Hilfe.html Tarvik.ICO Pelko_Programm.ICO)
  if(NOT EXISTS ${OUT}/programs/${f})
    message(FATAL_ERROR "missing in the program directory: ${f}")
  endif()
endforeach()
# The files for the system belong to the package only.
file(GLOB_RECURSE installed RELATIVE ${OUT}/programs ${OUT}/programs/*)
list(LENGTH installed count)
if(NOT count EQUAL 5)
  message(FATAL_ERROR "the program directory holds more than the programs: ${installed}")
endif()

set(run ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
        LANG=C.UTF-8)
execute_process(COMMAND ${run} ${OUT}/programs/Pelko_Programm --run save
                WORKING_DIRECTORY ${OUT}/work RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
  message(FATAL_ERROR "Pelko_Programm --run save: exit ${rc}, said: ${out}${err}")
endif()
foreach(f ${OUT}/programs/Pelko_Programm.INI ${OUT}/work/TK.DAT ${OUT}/work/LOG)
  if(NOT EXISTS ${f})
    message(FATAL_ERROR "Pelko_Programm --run save left no ${f}")
  endif()
endforeach()

file(WRITE ${OUT}/work/JOB.DAT "PROCESS=LOG/job\nENDFILE=1\nWAIT=1\n")
execute_process(COMMAND ${run} ${OUT}/programs/Tarvik JOB.DAT
                WORKING_DIRECTORY ${OUT}/work RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(READ ${OUT}/work/LOG/job.END end)
if(NOT rc EQUAL 0 OR NOT end STREQUAL "000" OR NOT EXISTS ${OUT}/programs/Tarvik.TXT)
  message(FATAL_ERROR "Tarvik from the program directory: exit ${rc}, end file '${end}': ${out}${err}")
endif()
file(REMOVE_RECURSE ${OUT})
