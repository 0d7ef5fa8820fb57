# embed_resources(TARGET NAME1 FILE1 NAME2 FILE2 ...): compiles the files into
# TARGET as named resources that FindResource() returns at run time.
function(embed_resources target)
  set(args ${ARGN})
  set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  file(MAKE_DIRECTORY ${gen_dir})
  set(out ${gen_dir}/resources.cpp)
  set(inputs)
  set(pairs)
  list(LENGTH args n)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET args ${i} name)
    list(GET args ${j} file)
    get_filename_component(file ${file} ABSOLUTE)
    list(APPEND inputs ${file})
    list(APPEND pairs "${name}=${file}")
  endforeach()
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} "-DPAIRS=${pairs}" -P ${PROJECT_SOURCE_DIR}/cmake/GenerateResources.cmake
    DEPENDS ${inputs} ${PROJECT_SOURCE_DIR}/cmake/GenerateResources.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
