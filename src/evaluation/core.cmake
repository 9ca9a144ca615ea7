target_sources(odomira_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/period.h
    ${CMAKE_CURRENT_LIST_DIR}/period.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statements.h
    ${CMAKE_CURRENT_LIST_DIR}/statements.cpp
)
