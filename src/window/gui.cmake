target_sources(odomira_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/frm_odomira.h
    ${CMAKE_CURRENT_LIST_DIR}/frm_odomira.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frm_odomira_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/entry_states.cpp
    ${CMAKE_CURRENT_LIST_DIR}/field_binding.h
    ${CMAKE_CURRENT_LIST_DIR}/field_binding.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_cell_delegate.h
    ${CMAKE_CURRENT_LIST_DIR}/grid_cell_delegate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tab_control.h
    ${CMAKE_CURRENT_LIST_DIR}/tab_control.cpp
    ${CMAKE_CURRENT_LIST_DIR}/twips.h
    ${CMAKE_CURRENT_LIST_DIR}/window_icon.h
    ${CMAKE_CURRENT_LIST_DIR}/window_icon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/first_start_dialog.h
    ${CMAKE_CURRENT_LIST_DIR}/first_start_dialog.cpp
)
