# The built-in skin images: the packer (tools/skinpack) turns the PNGs of src/skin/images,
# in the order of order.txt, into one container of image-list items, compiled into qv_skin
# as the resource QV_SKIN_IMAGES. The packer reads pictures through the drawing layer and
# writes the container through the skin unit that also reads it, without the skin library.
add_executable(qv_skinpack "${PROJECT_SOURCE_DIR}/tools/skinpack/skinpack.cpp"
                           "${PROJECT_SOURCE_DIR}/src/skin/uPelluxImageData.cpp")
target_link_libraries(qv_skinpack PRIVATE qv_draw)

set(QV_SKIN_IMAGES_DIR "${PROJECT_SOURCE_DIR}/src/skin/images")
set(QV_SKIN_IMAGES_DATA "${CMAKE_BINARY_DIR}/skin-images.qvil")
file(GLOB QV_SKIN_PNGS CONFIGURE_DEPENDS "${QV_SKIN_IMAGES_DIR}/*.png")
# Under the sanitizers the packer runs with the leak checker's suppressions of the system
# libraries' start-up losses, and the full unwind that lets them name their set-up calls.
add_custom_command(
  OUTPUT "${QV_SKIN_IMAGES_DATA}"
  COMMAND ${CMAKE_COMMAND} -E env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tools/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0"
          $<TARGET_FILE:qv_skinpack> "${QV_SKIN_IMAGES_DIR}" "${QV_SKIN_IMAGES_DATA}"
  DEPENDS qv_skinpack "${QV_SKIN_IMAGES_DIR}/order.txt" ${QV_SKIN_PNGS}
  COMMENT "Packing the built-in skin images"
  VERBATIM)
# Listed as a source so the packing runs before the resource is assembled.
target_sources(qv_skin PRIVATE "${QV_SKIN_IMAGES_DATA}")
qv_add_resources(qv_skin QV_SKIN_IMAGES "${QV_SKIN_IMAGES_DATA}")
