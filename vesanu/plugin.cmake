# libProcessingVesaNu.so: the plug-in the host loads with Qt's plug-in loader.
# It carries the processing contract and the API client, hidden, links against
# the host's service libraries (VESANU_HOST_SERVICE_LIBRARIES: our stand-ins,
# or the host SDK's with VESANU_HOST_SDK) and exports only the plug-in entry
# points and the resource functions.

# The scan picture is a PNG already: stored as it is, in the resource format
# every Qt 5 the host may run can read.
set(VESANU_RCC_CPP ${CMAKE_CURRENT_BINARY_DIR}/qrc_vesanu.cpp)
add_custom_command(
    OUTPUT ${VESANU_RCC_CPP}
    COMMAND Qt5::rcc --name vesanu --no-compress --format-version 2
            -o ${VESANU_RCC_CPP} ${CMAKE_CURRENT_SOURCE_DIR}/vesanu.qrc
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/vesanu.qrc ${CMAKE_CURRENT_SOURCE_DIR}/scan_token.png
    VERBATIM)
# qInitResources_vesanu and qCleanupResources_vesanu are part of the surface.
set_source_files_properties(${VESANU_RCC_CPP} PROPERTIES
    COMPILE_OPTIONS "-fvisibility=default" SKIP_AUTOMOC ON)

add_library(ProcessingVesaNu SHARED
    constants.h
    createanswer.cpp
    pluginentry.cpp
    vesanu.h
    vesanu.cpp
    ${VESANU_RCC_CPP}
)
target_link_libraries(ProcessingVesaNu PRIVATE vesanu_api veltaprocessing_static
                                               ${VESANU_HOST_SERVICE_LIBRARIES} Qt5::Core Qt5::Network)
set_target_properties(ProcessingVesaNu PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
# Static parts stay hidden, and every symbol the plug-in needs must resolve
# against the libraries it names.
target_link_options(ProcessingVesaNu PRIVATE -Wl,--exclude-libs,ALL -Wl,-z,defs)

# The file names of the host's service libraries, as the plug-in's NEEDED
# entries name them, for scripts/check-imports (CTest and scripts/package).
set(_vesanu_host_library_names "")
foreach(_library IN LISTS VESANU_HOST_SERVICE_LIBRARIES)
    string(APPEND _vesanu_host_library_names "$<TARGET_SONAME_FILE_NAME:${_library}>\n")
endforeach()
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/hostlibraries.txt CONTENT "${_vesanu_host_library_names}")
set_target_properties(ProcessingVesaNu PROPERTIES
    VESANU_HOST_LIBRARIES_FILE ${CMAKE_BINARY_DIR}/hostlibraries.txt)
