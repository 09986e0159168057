# Checks that the example configuration names every setting that the
# plug-in's constants headers declare ("Setting<Name> = "VesaNu:<key>""), and
# shows the default the code uses ("Default<Name>" or "Default<Name>Seconds"),
# or an empty value where the code has none.
#
# cmake -DEXAMPLE=packaging/vesanu.ini -DCONSTANTS="a.h;b.h" -P CheckExampleConfig.cmake

# key -> value of the example, "key=value" or commented out ";key=value".
file(STRINGS ${EXAMPLE} lines)
set(section "")
foreach(line IN LISTS lines)
    if(line MATCHES "^\\[(.*)\\]")
        set(section ${CMAKE_MATCH_1})
    elseif(line MATCHES "^;?([A-Za-z]+)=(.*)$")
        set(example_${section}_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
        set(example_${section}_${CMAKE_MATCH_1}_seen TRUE)
    endif()
endforeach()

set(checked 0)
set(problems "")
foreach(header IN LISTS CONSTANTS)
    file(READ ${header} code)
    string(REGEX MATCHALL "Setting[A-Za-z]+ = \"[A-Za-z]+:[A-Za-z]+\"" settings "${code}")
    foreach(setting IN LISTS settings)
        string(REGEX MATCH "Setting([A-Za-z]+) = \"([A-Za-z]+):([A-Za-z]+)\"" _ "${setting}")
        set(name ${CMAKE_MATCH_1})
        set(group ${CMAKE_MATCH_2})
        set(key ${CMAKE_MATCH_3})
        set(expected "")
        if(code MATCHES "Default${name}(Seconds)? = \"([^\"]*)\"")
            set(expected "${CMAKE_MATCH_2}")
        elseif(code MATCHES "Default${name}(Seconds)? = (-?[0-9]+);")
            set(expected "${CMAKE_MATCH_2}")
        endif()
        math(EXPR checked "${checked} + 1")
        if(NOT example_${group}_${key}_seen)
            list(APPEND problems "[${group}] ${key} is missing")
        elseif(NOT "${example_${group}_${key}}" STREQUAL "${expected}")
            list(APPEND problems
                "[${group}] ${key}: example shows \"${example_${group}_${key}}\", code default is \"${expected}\"")
        endif()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "No settings found in ${CONSTANTS}")
endif()
if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "${EXAMPLE} does not match the code:\n  ${text}")
endif()
message(STATUS "${checked} settings documented with their defaults")
