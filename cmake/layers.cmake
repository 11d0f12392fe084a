# The program's libraries, one per folder of src/, and the order in which
# they may use each other. The top build, the tests and the fuzz targets all
# come here, so each folder is defined once; the caller sets its own flags
# (warnings, sanitizers, fuzzer instrumentation) before including this file.
#
# Layers, lowest first: a folder uses only the folders listed before it.
#   frame        I/O, run set-up, windows, general numerics, the shared state
#   model        end-member thermodynamics, fluids, activities, reactions, solver
#   input        script, data-set and a-x readers (the rock and diagram set-up
#                calls the model)
#   utilities    calc mode 0 and drawing
#   reactions    calc modes 2 and 3
#   lsq          calc mode 9
#   uncertainty  conversions and uncertainty propagation of calc mode 1
#   equilibria   calc mode 1 set-up, driver and printers
#   app          the pass loop (src/mainprogram.cpp) over every mode
#
# Each library links only to those below it, and the test "layers" (this
# file run as a script) refuses an include that goes up or sideways.
set(SOLVARINTH_SRC ${CMAKE_CURRENT_LIST_DIR}/../src)
get_filename_component(SOLVARINTH_SRC ${SOLVARINTH_SRC} ABSOLUTE)

set(SOLVARINTH_LAYERS frame model input utilities reactions lsq uncertainty equilibria)
set(SOLVARINTH_USES_frame)
set(SOLVARINTH_USES_model frame)
set(SOLVARINTH_USES_input model frame)
set(SOLVARINTH_USES_utilities input model frame)
set(SOLVARINTH_USES_reactions utilities input model frame)
set(SOLVARINTH_USES_lsq utilities input model frame)
set(SOLVARINTH_USES_uncertainty utilities input model frame)
set(SOLVARINTH_USES_equilibria uncertainty utilities input model frame)
set(SOLVARINTH_USES_app equilibria uncertainty lsq reactions utilities input model frame)

# solvarinth_<folder> for every layer, and solvarinth_app for the pass loop
# above them; a folder with no sources yet is an interface library.
function(solvarinth_add_layers)
  foreach(layer ${SOLVARINTH_LAYERS})
    file(GLOB sources CONFIGURE_DEPENDS ${SOLVARINTH_SRC}/${layer}/*.cpp)
    set(target solvarinth_${layer})
    if(sources)
      add_library(${target} STATIC ${sources})
      target_include_directories(${target} PUBLIC ${SOLVARINTH_SRC})
      foreach(below ${SOLVARINTH_USES_${layer}})
        target_link_libraries(${target} PUBLIC solvarinth_${below})
      endforeach()
    else()
      add_library(${target} INTERFACE)
      target_include_directories(${target} INTERFACE ${SOLVARINTH_SRC})
      foreach(below ${SOLVARINTH_USES_${layer}})
        target_link_libraries(${target} INTERFACE solvarinth_${below})
      endforeach()
    endif()
  endforeach()
  add_library(solvarinth_app STATIC ${SOLVARINTH_SRC}/mainprogram.cpp)
  target_include_directories(solvarinth_app PUBLIC ${SOLVARINTH_SRC})
  foreach(below ${SOLVARINTH_USES_app})
    target_link_libraries(solvarinth_app PUBLIC solvarinth_${below})
  endforeach()
endfunction()

# Run as a script (cmake -P cmake/layers.cmake): every include written with
# its folder, and every folder including only from itself and below.
if(CMAKE_SCRIPT_MODE_FILE AND CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  set(bad 0)
  foreach(layer ${SOLVARINTH_LAYERS} app)
    if(layer STREQUAL app)
      set(files ${SOLVARINTH_SRC}/mainprogram.cpp ${SOLVARINTH_SRC}/mainprogram.h ${SOLVARINTH_SRC}/main.cpp)
    else()
      file(GLOB files ${SOLVARINTH_SRC}/${layer}/*.cpp ${SOLVARINTH_SRC}/${layer}/*.h)
    endif()
    set(allowed ${layer} ${SOLVARINTH_USES_${layer}})
    foreach(f ${files})
      file(STRINGS ${f} lines REGEX "^#include \"")
      foreach(line ${lines})
        string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" inc "${line}")
        if(inc MATCHES "^([a-z]+)/")
          list(FIND allowed ${CMAKE_MATCH_1} at)
          if(at LESS 0)
            message(SEND_ERROR "${f}: ${layer} may not include ${inc}")
            set(bad 1)
          endif()
        elseif(NOT (layer STREQUAL app AND inc STREQUAL "mainprogram.h"))
          message(SEND_ERROR "${f}: include ${inc} without its folder")
          set(bad 1)
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(bad)
    message(FATAL_ERROR "layer order broken")
  endif()
  message(STATUS "layers: every include goes down")
endif()
