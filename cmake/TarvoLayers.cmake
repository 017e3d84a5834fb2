# The layers of src/, lowest first. A file may include headers of its own layer and of
# the layers below it, never of a layer above: the core does not know the toolkit, the
# toolkit does not know the browser, and only start-up wires everything together.
# Each entry is a folder below src/; a file belongs to the longest folder that
# contains it.
#
# The page model (shell/pages) and the window's command numbers (shell/commands) sit
# below the engines because the two engine bodies implement the page model's body
# interface and post its commands; the rest of shell/ sits above the engines and may
# not include them at all (the engines reach the window only through start-up's body
# factory and the bus).
#
# Each engine is two folders: the layer over the engine library (engines/webengine/
# over Qt WebEngine, engines/webkitgtk/ over WebKitGTK, with what both decide alike
# in engines/shared/) and, one layer up, the browser's client parts written against
# it (engines/cef/, engines/ie/: bodies, clients, downloads, log-in forms), so the
# layer never reaches into the browser's own use of it.
set(TARVO_LAYERS
  "platform"
  "settings url bus"
  "store"
  "net"
  "protect account"
  "favorites history downloads update session preferences passwords"
  "ui"
  "shell/commands shell/pages"
  "engines/shared engines/webengine engines/webkitgtk"
  "engines/cef engines/ie"
  "shell"
  "protect/windows account/windows favorites/windows history/windows downloads/windows update/windows session/windows preferences/windows passwords/windows"
  "app"
  "main.cpp"
)
# Folders that may not include the engines even though they sit above them.
set(TARVO_ENGINE_FREE "shell" "protect/windows" "account/windows" "favorites/windows" "history/windows"
    "downloads/windows" "update/windows" "session/windows" "preferences/windows" "passwords/windows")

# Sets `out_rank` and `out_folder` for a path below src/ (or an include path);
# rank -1 when no layer claims it (a system or third-party header).
function(_tarvo_layer_of path out_rank out_folder)
  set(best_rank -1)
  set(best_folder "")
  set(rank 0)
  foreach(layer IN LISTS TARVO_LAYERS)
    string(REPLACE " " ";" folders "${layer}")
    foreach(folder IN LISTS folders)
      string(LENGTH "${folder}" length)
      string(LENGTH "${best_folder}" best_length)
      if((path STREQUAL folder OR path MATCHES "^${folder}/") AND length GREATER best_length)
        set(best_rank ${rank})
        set(best_folder "${folder}")
      endif()
    endforeach()
    math(EXPR rank "${rank} + 1")
  endforeach()
  set(${out_rank} ${best_rank} PARENT_SCOPE)
  set(${out_folder} "${best_folder}" PARENT_SCOPE)
endfunction()

# Fails configuration on the first include that runs up a layer, an engine include from
# the shell or a feature window, or a Qt WebEngine, GTK or WebKitGTK header outside engines/.
function(tarvo_verify_layers)
  set(src ${PROJECT_SOURCE_DIR}/src)
  file(GLOB_RECURSE files RELATIVE ${src} CONFIGURE_DEPENDS ${src}/*.h ${src}/*.cpp)
  set(faults "")
  foreach(file IN LISTS files)
    _tarvo_layer_of("${file}" file_rank file_folder)
    if(file_rank EQUAL -1)
      list(APPEND faults "${file}: no layer claims this folder (add it to TARVO_LAYERS)")
      continue()
    endif()
    set(engine_free FALSE)
    foreach(folder IN LISTS TARVO_ENGINE_FREE)
      if(file_folder STREQUAL folder)
        set(engine_free TRUE)
      endif()
    endforeach()
    file(STRINGS ${src}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
      if(line MATCHES "[\"<]([^\">]+)[\">]")
        set(included "${CMAKE_MATCH_1}")
      else()
        continue()
      endif()
      if(included MATCHES "^(QWebEngine|QtWebEngine|QWeb[A-Z]|gtk/|gdk/|webkit2?/|jsc/)" AND NOT file MATCHES "^engines/")
        list(APPEND faults "${file}: includes the engine header <${included}> outside engines/")
        continue()
      endif()
      _tarvo_layer_of("${included}" included_rank included_folder)
      if(included_rank EQUAL -1)
        continue()
      endif()
      if(included_rank GREATER file_rank)
        list(APPEND faults "${file}: includes \"${included}\" from the layer above it (${included_folder})")
      elseif(engine_free AND included_folder MATCHES "^engines/")
        list(APPEND faults "${file}: includes the engine layer's \"${included}\" (only app/ wires the engines)")
      endif()
    endforeach()
  endforeach()
  if(faults)
    list(JOIN faults "\n  " message)
    message(FATAL_ERROR "includes that break the layers of src/:\n  ${message}")
  endif()
endfunction()
