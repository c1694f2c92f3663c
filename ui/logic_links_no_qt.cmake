# The screen logic links no Qt: the libraries that hold the screens' rules
# (and everything they link, followed target by target) must not reach any
# Qt library, so that the logic stays testable and drivable without a
# window. A Qt target or a Qt library file anywhere in their link closure
# stops the configuration with the path that leads to it.
#
#   include(ui/logic_links_no_qt.cmake)
#   pag_logic_links_no_qt(pag_host pag_remittance)   # checked at the end of the top directory
#
# The check is deferred to the end of the top-level CMakeLists.txt, so a
# link added later in any directory is seen too.

# True when a link item names Qt: an imported target Qt::X or Qt6::X, or a
# library file libQt6X.so / Qt6X.lib given by path or name.
function(_pag_is_qt item out)
  if(item MATCHES "(^|[/\\\\:])(lib)?Qt[0-9]*(::|Widgets|Gui|Core)")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Walks the link items of `target` (its own and its interface ones) depth
# first; `trail` is how we got here, for the message.
function(_pag_walk_links target trail)
  get_property(seen GLOBAL PROPERTY _PAG_LINKS_SEEN)
  if(target IN_LIST seen)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY _PAG_LINKS_SEEN ${target})

  set(items "")
  get_target_property(own ${target} LINK_LIBRARIES)
  if(own)
    list(APPEND items ${own})
  endif()
  get_target_property(iface ${target} INTERFACE_LINK_LIBRARIES)
  if(iface)
    list(APPEND items ${iface})
  endif()

  foreach(raw IN LISTS items)
    # $<LINK_ONLY:x> and other simple wrappers: look at what they wrap.
    set(item "${raw}")
    if(item MATCHES "^\\$<LINK_ONLY:(.+)>$")
      set(item "${CMAKE_MATCH_1}")
    endif()
    _pag_is_qt("${item}" is_qt)
    if(is_qt)
      message(FATAL_ERROR
        "The screen logic must not link Qt, but ${trail} -> ${item}.\n"
        "The logic libraries are driven headless by the "
        "command line and the tests; widgets belong in ui/, which binds to them.")
    endif()
    if(TARGET "${item}")
      _pag_walk_links("${item}" "${trail} -> ${item}")
    endif()
  endforeach()
endfunction()

function(_pag_check_logic_links)
  foreach(lib IN LISTS ARGN)
    if(NOT TARGET ${lib})
      message(FATAL_ERROR "pag_logic_links_no_qt: no target ${lib}")
    endif()
    set_property(GLOBAL PROPERTY _PAG_LINKS_SEEN "")
    _pag_walk_links(${lib} ${lib})
  endforeach()
endfunction()

# Registers the libraries to check; the check runs once the top directory
# has been read.
function(pag_logic_links_no_qt)
  # EVAL puts the names into the deferred call now.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY \"${CMAKE_SOURCE_DIR}\" CALL _pag_check_logic_links ${ARGN})")
endfunction()
