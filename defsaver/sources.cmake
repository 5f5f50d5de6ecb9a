list(APPEND PURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/cmdline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mouserule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/placement.cpp)
list(APPEND WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/saverwindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/password.cpp)
