# cmake -DSITE=FOLDER -DGZIP=gzip -P Compress.cmake: beside every file of the site that compresses
# (text, the program, the uncompressed pictures) its gzipped copy F.gz, made anew, for servers that
# send it to browsers taking gzip. PNG is compressed already. A .gz whose file has gone goes too.
file(GLOB stale ${SITE}/*.gz)
foreach(gz IN LISTS stale)
  string(REGEX REPLACE "\\.gz$" "" original ${gz})
  if(NOT EXISTS ${original})
    file(REMOVE ${gz})
  endif()
endforeach()
file(GLOB compressible ${SITE}/*.html ${SITE}/*.js ${SITE}/*.wasm ${SITE}/*.iv ${SITE}/*.bmp ${SITE}/*.webmanifest
     ${SITE}/*.json)
foreach(name IN LISTS compressible)
  # -n: no name or time inside, so the same file always gives the same bytes (and ETag).
  execute_process(COMMAND ${GZIP} -9 -n -k -f ${name} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${name}: gzip failed")
  endif()
endforeach()
