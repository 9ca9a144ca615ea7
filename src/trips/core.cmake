target_sources(odomira_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/trip_lists.h
    ${CMAKE_CURRENT_LIST_DIR}/trip_figures.h
    ${CMAKE_CURRENT_LIST_DIR}/trip_figures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/trip_position.h
    ${CMAKE_CURRENT_LIST_DIR}/trip_position.cpp
    ${CMAKE_CURRENT_LIST_DIR}/calendar_placement.h
    ${CMAKE_CURRENT_LIST_DIR}/calendar_placement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/last_reading.h
    ${CMAKE_CURRENT_LIST_DIR}/last_reading.cpp
)
