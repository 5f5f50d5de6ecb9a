list(APPEND PURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/tunepath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/random.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fpmath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dirtyrects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drawingpath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pattern.cpp)
list(APPEND WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/fpucontrol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gditarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/offscreen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/randomclock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/patternwindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tunefile.cpp)
