# Keeps the core's layers, lowest first: base/, invoice/, storage/, output/,
# app/. Run by ctest as `cmake -P` with SOURCE_DIR, CORE_SOURCES (the core
# library's files, ";"-joined as "|") and WIDGET_HEADER_DIRS (the Qt Gui,
# Widgets and Print Support header folders, "|"-joined). Fails, naming each
# file and line, when a file of base/ or invoice/ or a core file includes a
# folder above its own, or a core file includes the window (app/Unit1.h,
# widgets/) or a header of Qt Gui, Widgets or Print Support; and when two
# core files include each other (as the e-invoice writers once did), a
# circle that keeps either from standing alone.

cmake_minimum_required(VERSION 3.25)

set(layers base invoice storage output app)

string(REPLACE "|" ";" core_sources "${CORE_SOURCES}")
string(REPLACE "|" ";" widget_dirs "${WIDGET_HEADER_DIRS}")

set(widget_headers)
foreach(dir IN LISTS widget_dirs)
    file(GLOB names RELATIVE "${dir}" "${dir}/Q*")
    list(APPEND widget_headers ${names})
endforeach()

# The files checked: every file of base/ and invoice/, and each core source
# with its header.
file(GLOB checked "${SOURCE_DIR}/base/*.cpp" "${SOURCE_DIR}/base/*.h"
                  "${SOURCE_DIR}/invoice/*.cpp" "${SOURCE_DIR}/invoice/*.h")
foreach(source IN LISTS core_sources)
    list(APPEND checked "${source}")
    string(REGEX REPLACE "\\.cpp$" ".h" header "${source}")
    if(EXISTS "${header}")
        list(APPEND checked "${header}")
    endif()
endforeach()
list(REMOVE_DUPLICATES checked)

set(faults)
set(edges)
foreach(path IN LISTS checked)
    file(RELATIVE_PATH relative "${SOURCE_DIR}" "${path}")
    string(REGEX MATCH "^[^/]+" folder "${relative}")
    list(FIND layers "${folder}" own)
    set(core FALSE)
    if(path IN_LIST core_sources OR folder STREQUAL "base" OR folder STREQUAL "invoice")
        set(core TRUE)
    endif()
    file(STRINGS "${path}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
        if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/([^\"]+)\"")
            set(target_folder "${CMAKE_MATCH_1}")
            set(target "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
            list(FIND layers "${target_folder}" other)
            if(own GREATER_EQUAL 0 AND other GREATER own)
                list(APPEND faults "${relative}: ${line} (${target_folder}/ is above ${folder}/)")
            endif()
            string(REGEX REPLACE "\\.[a-z]+$" "" from_unit "${relative}")
            string(REGEX REPLACE "\\.[a-z]+$" "" to_unit "${target}")
            if(core AND NOT from_unit STREQUAL to_unit)
                list(APPEND edges "${from_unit}>${to_unit}")
            endif()
            if(core AND (target STREQUAL "app/Unit1.h" OR target_folder STREQUAL "widgets"))
                list(APPEND faults "${relative}: ${line} (the core includes the window)")
            endif()
        elseif(core AND line MATCHES "#[ \t]*include[ \t]*<([^>/]+/)?([^>/]+)>")
            if(CMAKE_MATCH_2 IN_LIST widget_headers OR CMAKE_MATCH_1 MATCHES "^Qt(Gui|Widgets|PrintSupport)/$")
                list(APPEND faults "${relative}: ${line} (the core includes a widget header)")
            endif()
        endif()
    endforeach()
endforeach()

foreach(edge IN LISTS edges)
    string(REPLACE ">" ";" ends "${edge}")
    list(GET ends 0 from)
    list(GET ends 1 to)
    if("${to}>${from}" IN_LIST edges AND from STRLESS to)
        list(APPEND faults "${from} and ${to} include each other")
    endif()
endforeach()

if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Includes across the layers:\n  ${text}")
endif()
list(LENGTH checked count)
message(STATUS "${count} files keep their layers")
