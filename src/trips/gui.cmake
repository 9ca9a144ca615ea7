target_sources(odomira_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/trip_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/date_picker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/open_trip_guard.cpp
)
