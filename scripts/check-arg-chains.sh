#!/bin/sh
# Fails when program code chains QString::arg: in "%1 ... %2" filled by
# .arg(a).arg(b), a text a that holds "%2" of its own (a specimen named
# "X%2") is filled by the second call. One .arg(a, b) call, or joining the
# parts, is safe. Run by CI and as a test.
cd "$(dirname "$0")/.."
found=$(find core store evaluation display instrument exchange shell ctl app \
        -name '*.cpp' -o -name '*.h' | sort | xargs perl -0777 -ne '
    while (/\.arg\s*(\((?:[^()"]++|"(?:[^"\\]|\\.)*+"|(?1))*\))\s*\.arg\s*\(/g) {
        my $line = 1 + (substr($_, 0, $-[0]) =~ tr/\n//);
        print "$ARGV:$line\n";
        pos($_) = $+[1];
    }')
if [ -n "$found" ]; then
    echo "$found" | sed 's/$/: chained QString::arg; use one .arg(a, b) or join the texts/'
    exit 1
fi
echo "arg chains: none"
