# Checks that the compiler kept every term of a block: the loop over the
# lanes of order 12 that forms a block's terms, in the SSE4.1, AVX2 and
# AVX-512F kernels, issues all the multiplies of its terms and of the
# products they share. A compiler that factors the block's sum of terms,
# (w1 + w2 f) b for w1 b + w2 f b, never forms those terms and issues fewer.
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

# The multiplies of a block of order 12 (see term_blocks_kernel.h), where
# the loop forms all of its terms: 20 products of the rows below a row,
# times that row's entry in column 1 or 2, from 9 products of the rows
# below; 9 products of the rows above; 20 of those times the entry in
# column 1 or 2; 110 that extend them by a row; and the 132 terms. A loop
# that forms the terms with column 1 above column 2 alone, run twice, takes
# 10, 9, 9, 10, 55 and 66 of them.
set(all_terms 300)
set(half_terms 159)
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
  set(fewest 0)
  set(addresses "")
  set(multiplies "")
  set(loops 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-f]+ <(.*)>:$")
      set(function "${CMAKE_MATCH_1}")
      set(fewest 0)
      if(function MATCHES "addTerms<12, [0-9]+, true>")
        set(fewest ${all_terms})
      elseif(function MATCHES "addTerms<12, [0-9]+, false>")
        set(fewest ${half_terms})
      endif()
      set(addresses "")
      set(multiplies "")
      continue()
    endif()
    if(fewest EQUAL 0 OR NOT line MATCHES "^ *([0-9a-f]+):[ \t]+(.*)$")
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
        math(EXPR loops "${loops} + 1")
        if(count LESS fewest)
          string(APPEND failures "\n  ${name}: the loop of ${function} has ${count} multiplies, not ${fewest}")
        endif()
      endif()
    endif()
  endforeach()
  if(loops EQUAL 0)
    string(APPEND failures "\n  ${name}: no loop that forms the terms of order 12")
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
