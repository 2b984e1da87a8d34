# Runs the tour into a fresh folder and checks that every screenshot it names exists.
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${TOUR}" "${OUT}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "varnoth-tour failed (${rc}): ${err}")
endif()
foreach(name 01-splash 02-login 03-main 04-message-box 06-popup-menu 08-gallery 09-gallery-150 gallery-controls 10-gallery-shapes
                12-menus menus-and-border 14-popup-messages 15-message-question 17-message-warning gallery-messages
                tree-grid main-window-100 main-window-100-max main-window-150 main-window-150-max main-window-scheme)
  if(NOT EXISTS "${OUT}/${name}.png")
    message(FATAL_ERROR "missing ${name}.png; the tour wrote:\n${out}")
  endif()
endforeach()
