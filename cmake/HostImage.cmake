# Linker script for stand-in executables: GNU ld's default PE script with an
# uninitialised, executable section placed before .text, so that the host's
# fixed addresses fall inside the executable's own image.
function(hostimg_generate_linker_script out)
  execute_process(COMMAND "${CMAKE_LINKER}" --verbose OUTPUT_VARIABLE _v RESULT_VARIABLE _r)
  if(NOT _r EQUAL 0 OR NOT _v MATCHES "\n=+\n")
    message(FATAL_ERROR "hostimg: '${CMAKE_LINKER} --verbose' gave no script")
  endif()
  # Keep the text between the two rulers (a regex would be greedy across lines).
  set(_rule "==================================================\n")
  string(FIND "${_v}" "${_rule}" _a)
  string(LENGTH "${_rule}" _n)
  math(EXPR _a "${_a} + ${_n}")
  string(SUBSTRING "${_v}" ${_a} -1 _v)
  string(FIND "${_v}" "${_rule}" _b)
  string(SUBSTRING "${_v}" 0 ${_b} _v)
  set(_old "  .text  __image_base__ + ( __section_alignment__ < 0x1000 ? . : __section_alignment__ ) :")
  string(FIND "${_v}" "${_old}" _pos)
  if(_pos EQUAL -1)
    message(FATAL_ERROR "hostimg: .text placement not found in the default script")
  endif()
  string(REPLACE "${_old}"
                 "  .hostimg __image_base__ + 0x1000 : { KEEP(*(.hostimg)) }\n  . = ALIGN(__section_alignment__);\n  .text . :"
                 _v "${_v}")
  # Rewritten only when it changes, so a new configure relinks nothing.
  file(WRITE "${out}.new" "${_v}")
  configure_file("${out}.new" "${out}" COPYONLY)
endfunction()

# Turns an executable target into a stand-in host image at the given base.
# The reserved range runs from base + 0x1000 up to 0xD00000.
function(make_host_image target base)
  math(EXPR _size "0xD00000 - ${base} - 0x1000" OUTPUT_FORMAT HEXADECIMAL)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/standin/host_image.S)
  target_compile_definitions(${target} PRIVATE HOST_IMAGE_RESERVE=${_size})
  target_link_options(${target} PRIVATE -Wl,-T,${HOSTIMG_LD} -Wl,--image-base,${base}
                      -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${HOSTIMG_LD})
endfunction()
