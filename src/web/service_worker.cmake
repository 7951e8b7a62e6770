# Writes the page's service worker from web/sw.js with the files it keeps and, as its version,
# a digest of them all: any change to the page makes a new version.
#   cmake -DTEMPLATE=web/sw.js -DOUTPUT=page/sw.js -DFOLDER=page "-DFILES=a;b" -P this file
set(digests "")
set(listed "")
foreach(file IN LISTS FILES)
  file(SHA256 "${FOLDER}/${file}" digest)
  string(APPEND digests "${digest}")
  list(APPEND listed "'${file}'")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 VERSION)
list(JOIN listed ", " FILES)
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
