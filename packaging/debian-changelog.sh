#!/bin/sh
# Writes CHANGELOG.md in the format of a Debian changelog, which is what a
# native package's changelog.gz must be (dpkg-parsechangelog and lintian read
# it). Each "## VERSION (YYYY-MM-DD)" section becomes one entry; each of its
# paragraphs and "- " items becomes one "*" item, rewrapped to 78 columns.
# Usage: debian-changelog.sh CHANGELOG.md PACKAGE "NAME <EMAIL>" OUTPUT
set -eu
[ $# -eq 4 ] || { echo "usage: $0 CHANGELOG.md PACKAGE MAINTAINER OUTPUT" >&2; exit 2; }
awk -v package="$2" -v maintainer="$3" '
function flush_item(    n, words, i, line) {
    if (item == "") return
    n = split(item, words, " ")
    line = "  *"
    for (i = 1; i <= n; i++) {
        if (length(line) + 1 + length(words[i]) > 78 && line != "  *" && line != "   ") {
            print line
            line = "   "
        }
        line = line " " words[i]
    }
    print line
    item = ""
}
function close_entry(    command, stamp) {
    flush_item()
    if (version == "") return
    # Noon UTC: the day stays the same in every time zone people read it in.
    command = "LC_ALL=C date -u -R -d \"" date " 12:00 UTC\""
    if ((command | getline stamp) <= 0) { print "bad date " date > "/dev/stderr"; exit 1 }
    close(command)
    print ""
    print " -- " maintainer "  " stamp
    version = ""
}
/^## / {
    close_entry()
    if (!match($0, /^## [^ ]+ \([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\)$/)) {
        print "not \"## VERSION (YYYY-MM-DD)\": " $0 > "/dev/stderr"; exit 1
    }
    version = $2
    date = substr($3, 2, 10)
    if (entries++) print ""
    print package " (" version ") unstable; urgency=medium"
    print ""
    next
}
version == "" { next }
/^[ \t]*$/ { flush_item(); next }
/^- / { flush_item(); item = substr($0, 3); next }
{ item = item " " $0 }
END {
    close_entry()
    if (!entries) { print "no \"## VERSION (YYYY-MM-DD)\" section" > "/dev/stderr"; exit 1 }
}
' "$1" >"$4.tmp"
mv "$4.tmp" "$4"
