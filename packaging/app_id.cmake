# The reverse-DNS id the desktop entry, the icon and the AppStream metainfo are named after.
set(MARQUEE8_APP_ID "io.github.marquee8.Marquee8")
