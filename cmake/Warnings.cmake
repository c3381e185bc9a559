# The one place that sets the strict warnings and the floating-point model.
function(set_project_options target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion
      -Wno-sign-conversion -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual>)
endfunction()
