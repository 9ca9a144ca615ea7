target_sources(odomira_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/export_commands.cpp
)
