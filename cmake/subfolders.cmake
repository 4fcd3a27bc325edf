# Adds each sub-folder of the calling folder that has a CMakeLists.txt, for the folders whose
# sub-folders are one library, tool or test program each.
macro(tlv_add_subfolders)
  file(GLOB tlv_children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(tlv_child IN LISTS tlv_children)
    if(IS_DIRECTORY ${tlv_child} AND EXISTS ${tlv_child}/CMakeLists.txt)
      add_subdirectory(${tlv_child})
    endif()
  endforeach()
endmacro()
