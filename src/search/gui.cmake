target_sources(odomira_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/search_commands.cpp
)
