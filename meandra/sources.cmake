list(APPEND WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/patternwindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tunefile.cpp)
