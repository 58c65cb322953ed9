# Project-wide compiler flags: strict warnings everywhere, errors in CI, optional sanitizers.
add_compile_options(-Wall -Wextra -Wpedantic)
if(WARNINGS_AS_ERRORS)
  add_compile_options(-Werror)
endif()
if(SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
