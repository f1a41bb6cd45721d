# Checks that the code compiled for one instruction set is its own: each
# block kernel's object defines its entry point, sumTermLanes<Kernel>, and
# no other symbol that the linker could take from it for another object, and
# no other object of the library defines a symbol that a kernel object does.
# An inline function or a template with external linkage, compiled into a
# kernel for AVX-512 and into another object for the baseline, is one symbol
# to the linker, which keeps either copy: the AVX-512 one could then run on a
# processor without AVX-512.
#
#   cmake -DNM=<nm> -DOBJECTS=<object;...> -P kernel_symbols.cmake
#
# A kernel object is one compiled from term_blocks_<set>.cpp, where <set> is
# portable, sse41, avx2 or avx512. Beside its entry point an object may
# define only what the compiler adds to every object alike, whatever the
# instruction set: DW.ref.__gxx_personality_v0, the pointer to the C++
# runtime's unwinding routine that every object with unwinding tables
# shares, and on 32-bit x86 the __x86.get_pc_thunk.<register> routines of
# position-independent code, each a load of its return address and a return.
cmake_minimum_required(VERSION 3.25)

if(NOT NM OR NOT OBJECTS)
  message(FATAL_ERROR "usage: cmake -DNM=<nm> -DOBJECTS=<object;...> -P kernel_symbols.cmake")
endif()

# Sets ${out} to the external symbols that `object` defines, weak ones
# included, one C++ name (demangled, without its parameters) each.
function(defined_symbols object out)
  execute_process(COMMAND "${NM}" --defined-only --extern-only --demangle --no-sort "${object}"
                  OUTPUT_VARIABLE listing RESULT_VARIABLE failed ERROR_VARIABLE errors)
  if(failed)
    message(FATAL_ERROR "${NM} failed on ${object}: ${errors}")
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  set(symbols "")
  foreach(line IN LISTS lines)
    # "<value> <type> <name>", or "<type> <name>" where there is no value.
    if(line MATCHES "^([0-9a-fA-F]+ +)?[A-Za-z] +(.+)$")
      set(symbol "${CMAKE_MATCH_2}")
      if(NOT symbol STREQUAL "DW.ref.__gxx_personality_v0" AND
         NOT symbol MATCHES "^__x86\\.get_pc_thunk\\.[a-z]+$")
        list(APPEND symbols "${symbol}")
      endif()
    endif()
  endforeach()
  set(${out} "${symbols}" PARENT_SCOPE)
endfunction()

set(kernels 0)
set(failures "")
foreach(object IN LISTS OBJECTS)
  get_filename_component(name "${object}" NAME)
  defined_symbols("${object}" symbols)
  if(name MATCHES "^term_blocks_(portable|sse41|avx2|avx512)\\.cpp\\.(o|obj)$")
    math(EXPR kernels "${kernels} + 1")
    list(APPEND kernel_objects "${object}")
    set(kernel_symbols_${kernels} "${symbols}")
    set(kernel_name_${kernels} "${name}")
    foreach(symbol IN LISTS symbols)
      if(NOT symbol MATCHES "^sumTermLanes[A-Za-z0-9]+\\(")
        string(APPEND failures "\n  ${name} defines ${symbol}")
      endif()
    endforeach()
    list(LENGTH symbols count)
    if(NOT count EQUAL 1)
      string(APPEND failures "\n  ${name} defines ${count} symbols, not its entry point alone")
    endif()
  else()
    list(APPEND other_symbols ${symbols})
  endif()
endforeach()

if(kernels EQUAL 0)
  message(FATAL_ERROR "no kernel object among ${OBJECTS}")
endif()
foreach(k RANGE 1 ${kernels})
  foreach(symbol IN LISTS kernel_symbols_${k})
    if(symbol IN_LIST other_symbols)
      string(APPEND failures "\n  ${kernel_name_${k}} and another object both define ${symbol}")
    endif()
    foreach(j RANGE 1 ${kernels})
      if(NOT j EQUAL k AND symbol IN_LIST kernel_symbols_${j})
        string(APPEND failures "\n  ${kernel_name_${k}} and ${kernel_name_${j}} both define ${symbol}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "kernel objects share code:${failures}")
endif()
message(STATUS "${kernels} kernel objects, each defining its entry point alone")
