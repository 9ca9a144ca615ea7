target_sources(odomira_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ansi_line_writer.h
    ${CMAKE_CURRENT_LIST_DIR}/ansi_line_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report_document.h
    ${CMAKE_CURRENT_LIST_DIR}/report_document.cpp
    ${CMAKE_CURRENT_LIST_DIR}/trip_page.h
    ${CMAKE_CURRENT_LIST_DIR}/trip_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report_paths.h
    ${CMAKE_CURRENT_LIST_DIR}/report_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/whole_file.h
    ${CMAKE_CURRENT_LIST_DIR}/whole_file.cpp
)
