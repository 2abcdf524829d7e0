# cmake -DSITE=FOLDER -DTEMPLATE=sw.js.in -P ServiceWorker.cmake: writes FOLDER/sw.js listing the
# site's files, with a build name made of their contents, so every change of any file is a new cache.
file(GLOB names RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM names sw.js)
# The gzipped copies are the server's business: the worker keeps what the browser decoded.
list(FILTER names EXCLUDE REGEX "\\.gz$")
list(SORT names)
set(contents "")
set(quoted "'./'")
foreach(name IN LISTS names)
  file(SHA256 ${SITE}/${name} digest)
  string(APPEND contents "${name} ${digest}\n")
  string(APPEND quoted ", '${name}'")
endforeach()
string(SHA256 build "${contents}")
string(SUBSTRING ${build} 0 16 FLIPPER_BUILD)
set(FLIPPER_FILES ${quoted})
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
