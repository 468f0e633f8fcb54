#!/bin/sh
# An example driver program for oru, in shell. Start it from this folder with
#
#     oru -d capitalise.sh
#
# It does what capitalise.py does: fetches letter.txt, puts the first line in capitals, asks where
# the cursor is and what the line says, has the file sent back with EMIT, writes letter.report,
# saves the text as letter.out and ends the editor. Keys go to oru on standard output; oru's
# answers arrive on standard input, one line each.

cr=$(printf '\r')
ctrl_c=$(printf '\003')

command() { printf '%s\r' "$1"; }

command "FEletter.txt"
command "PO1|1"
command "AS13"                 # ASK 13: the rest of the line from the cursor
read -r first
printf '\r'                    # close the command line
printf '%s' "$first" | tr 'a-z' 'A-Z'
printf '%s' "$ctrl_c"          # open it again
command "AS3"                  # ASK 3: the cursor's line
read -r line
command "AS4"                  # ASK 4: the cursor's column
read -r column
command "EM1|1|200000|1"       # EMIT core file 1 to this program, ended by a line $$$
count=0
while read -r text; do
    text=${text%"$cr"}
    [ "$text" = '$$$' ] && break
    [ $count -eq 0 ] && top=$text
    count=$((count + 1))
done
{
    echo "first line was: $first"
    echo "cursor at line $line, column $column"
    echo "$count lines came back; the first is: $top"
} > letter.report
command "SAletter.out"
command "GO"
