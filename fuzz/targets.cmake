# The fuzz targets: one source fuzz/<name>.cpp each, built as the libFuzzer
# program fuzz_<name> (PELKO_FUZZ) and as part of the replay test.
set(PELKO_FUZZ_TARGETS
  command_file
  message_file
  upload_file
  frame_receiver
  record_expansion
  line_splitter
  ini_file
  settings_startup
  reactivation_list
  hs3_guests
  velox_guests
  hotline_guests
  protel_guests
  register_tables
  hs3_converter
  velox_converter
  hotline_converter
  protel_roombook
  journal_conversion
)
# What every target links: the driver's core and the interface program's
# core with its adapters.
set(PELKO_FUZZ_LIBS tarvik_core pelko_core pelko_adapters)
