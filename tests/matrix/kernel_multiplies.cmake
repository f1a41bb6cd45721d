# Checks that the compiler kept every term of a block: each loop over the
# lanes of order 12 in the SSE4.1, AVX2 and AVX-512F kernels, one loop to a
# swap, issues at least the 30 multiplies of the cheapest swap. A compiler
# that factors the block's sum of terms, (h1 b1 + h2) t2 for h1 b1 t2 + h2
# t2, never forms those terms and issues fewer: GCC's reassociation left 24
# at the last swap of a sweep.
#
#   cmake -DOBJDUMP=<objdump> -DOBJECTS=<object;...> -P kernel_multiplies.cmake
#
# Of OBJECTS, the kernel objects term_blocks_sse41, term_blocks_avx2 and
# term_blocks_avx512 are read, whose sets have a 32-bit lane multiply (the
# baseline's takes several instructions); a loop is the code from the
# target of a backward jump to the jump.
cmake_minimum_required(VERSION 3.25)

if(NOT OBJDUMP OR NOT OBJECTS)
  message(FATAL_ERROR "usage: cmake -DOBJDUMP=<objdump> -DOBJECTS=<object;...> -P kernel_multiplies.cmake")
endif()

# The fewest multiplies of a swap of order 12 (see term_blocks_kernel.h):
# 12 - K products above, less one at K = 1; the entries of column 1 that go
# with a product made afresh; K + 3 products below, less one at K = 8; and
# the 12 terms. K = 2 .. 6 take 30.
set(fewest 30)
# A loop with fewer multiplies than this is no swap's loop: the setting up
# of the lanes, or a walk of a lower order.
set(smallest_swap 20)

set(failures "")
set(checked 0)
foreach(object IN LISTS OBJECTS)
  get_filename_component(name "${object}" NAME)
  if(NOT name MATCHES "^term_blocks_(sse41|avx2|avx512)\\.cpp\\.(o|obj)$")
    continue()
  endif()
  execute_process(COMMAND "${OBJDUMP}" -d -C --no-show-raw-insn "${object}"
                  OUTPUT_VARIABLE listing RESULT_VARIABLE failed ERROR_VARIABLE errors)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} failed on ${object}: ${errors}")
  endif()
  # The listing is a function per paragraph: "<address> <name>:" and its
  # lines "  <address>:\t<instruction>".
  string(REPLACE ";" "," listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(order12 FALSE)
  set(addresses "")
  set(multiplies "")
  set(loops 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-f]+ <(.*)>:$")
      set(function "${CMAKE_MATCH_1}")
      set(order12 FALSE)
      if(function MATCHES "(BlockWalk|stepLanes|sumTermLanesOfOrder)<12,")
        set(order12 TRUE)
      endif()
      set(addresses "")
      set(multiplies "")
      continue()
    endif()
    if(NOT order12 OR NOT line MATCHES "^ *([0-9a-f]+):[ \t]+(.*)$")
      continue()
    endif()
    set(address "${CMAKE_MATCH_1}")
    set(instruction "${CMAKE_MATCH_2}")
    set(multiply 0)
    if(instruction MATCHES "^v?pmulld ")
      set(multiply 1)
    endif()
    list(APPEND addresses "${address}")
    list(APPEND multiplies "${multiply}")
    if(instruction MATCHES "^j[a-z]+ +([0-9a-f]+) ")
      set(target "${CMAKE_MATCH_1}")
      math(EXPR to "0x${target}")
      math(EXPR from "0x${address}")
      if(to LESS from)
        set(count 0)
        set(index 0)
        foreach(at IN LISTS addresses)
          math(EXPR at "0x${at}")
          if(at GREATER_EQUAL to)
            list(GET multiplies ${index} one)
            math(EXPR count "${count} + ${one}")
          endif()
          math(EXPR index "${index} + 1")
        endforeach()
        if(count GREATER_EQUAL smallest_swap)
          math(EXPR loops "${loops} + 1")
          if(count LESS fewest)
            string(APPEND failures "\n  ${name}: a loop of ${function} has ${count} multiplies")
          endif()
        endif()
      endif()
    endif()
  endforeach()
  if(loops LESS 8)
    string(APPEND failures "\n  ${name}: ${loops} loops of order 12 found, not the 8 swaps of a sweep")
  endif()
  math(EXPR checked "${checked} + 1")
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "no SSE4.1, AVX2 or AVX-512F kernel object among OBJECTS")
endif()
if(failures)
  message(FATAL_ERROR "the kernels do not form every term:${failures}")
endif()
message(STATUS "${checked} kernel objects form every term of order 12")
