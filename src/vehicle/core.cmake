target_sources(odomira_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/day_cost.h
    ${CMAKE_CURRENT_LIST_DIR}/day_cost.cpp
)
