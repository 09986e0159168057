# The host's services from the host vendor's SDK instead of our stand-ins:
# headers from ${VESANU_HOST_SDK}/include, libraries named by
# VESANU_HOST_SDK_LIBRARIES from ${VESANU_HOST_SDK}/lib. Sets
# VESANU_HOST_SERVICE_LIBRARIES to one imported target per library.

if(VESANU_BUILD_TESTS OR VESANU_BUILD_TOOLS OR VESANU_BUILD_BENCH OR VESANU_FUZZ)
    message(FATAL_ERROR "VESANU_HOST_SDK builds the plug-in alone: the tests, tools, benchmarks "
                        "and fuzz targets need our stand-ins. Configure with "
                        "-DVESANU_BUILD_TESTS=OFF -DVESANU_BUILD_TOOLS=OFF.")
endif()

get_filename_component(_vesanu_sdk ${VESANU_HOST_SDK} ABSOLUTE)
set(_vesanu_sdk_include ${_vesanu_sdk}/include)

# The layout the plug-in's includes expect. Singleton comes with
# config/config.h and MockFactory with network/restclient.h.
foreach(_header config/config.h network/restclient.h tr/tr.h log4qt/logger.h log4qt/logmanager.h)
    if(NOT EXISTS ${_vesanu_sdk_include}/${_header})
        message(FATAL_ERROR "Host SDK: ${_vesanu_sdk_include}/${_header} not found")
    endif()
endforeach()

if(NOT VESANU_HOST_SDK_LIBRARIES)
    message(FATAL_ERROR "Host SDK: VESANU_HOST_SDK_LIBRARIES names no library")
endif()

set(VESANU_HOST_SERVICE_LIBRARIES)
foreach(_name IN LISTS VESANU_HOST_SDK_LIBRARIES)
    # Looked up afresh on every configure: the prefix may have changed.
    unset(_vesanu_sdk_library CACHE)
    find_library(_vesanu_sdk_library NAMES ${_name} PATHS ${_vesanu_sdk}/lib
                 NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT _vesanu_sdk_library)
        message(FATAL_ERROR "Host SDK: library ${_name} not found in ${_vesanu_sdk}/lib")
    endif()
    # The name the plug-in's NEEDED entry will hold, for the import check.
    get_filename_component(_vesanu_sdk_soname ${_vesanu_sdk_library} NAME)
    if(CMAKE_READELF)
        execute_process(COMMAND ${CMAKE_READELF} -d ${_vesanu_sdk_library}
                        OUTPUT_VARIABLE _vesanu_sdk_dynamic ERROR_QUIET)
        if(_vesanu_sdk_dynamic MATCHES "Library soname: \\[([^]]+)\\]")
            set(_vesanu_sdk_soname ${CMAKE_MATCH_1})
        endif()
    endif()
    add_library(hostsdk::${_name} SHARED IMPORTED)
    set_target_properties(hostsdk::${_name} PROPERTIES
        IMPORTED_LOCATION ${_vesanu_sdk_library}
        IMPORTED_SONAME ${_vesanu_sdk_soname}
        INTERFACE_INCLUDE_DIRECTORIES ${_vesanu_sdk_include}
        INTERFACE_LINK_LIBRARIES "Qt5::Core;Qt5::Network")
    message(STATUS "Host SDK: ${_name} is ${_vesanu_sdk_library} (${_vesanu_sdk_soname})")
    list(APPEND VESANU_HOST_SERVICE_LIBRARIES hostsdk::${_name})
    unset(_vesanu_sdk_library CACHE)
endforeach()
