# libProcessingVesaNu.so: the plug-in the host loads with Qt's plug-in loader.
# It links against the host's libraries (our stand-ins) and exports only the
# plug-in entry points and the resource functions.

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
target_link_libraries(ProcessingVesaNu PRIVATE vesanu_api veltaprocessing veltaconfig veltanetwork
                                               veltatr log4qt Qt5::Core Qt5::Network)
set_target_properties(ProcessingVesaNu PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
# Static parts stay hidden, and every symbol the plug-in needs must resolve
# against the libraries it names.
target_link_options(ProcessingVesaNu PRIVATE -Wl,--exclude-libs,ALL -Wl,-z,defs)
