target_sources(odomira_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/search_statement.h
    ${CMAKE_CURRENT_LIST_DIR}/search_statement.cpp
)
