#!/bin/sh
# An example driver program for oru, in shell. Start it from this folder with
#
#     oru -d student.sh
#
# It does what student.py does: fetches letter.txt, changes every "learner" into "student",
# asks where the cursor was left and what the first line says, has the file sent back with EMIT,
# writes letter.report, saves the text as letter.out and ends the editor. Keys go to oru on
# standard output; oru's answers arrive on standard input, one line each.

cr=$(printf '\r')

command() { printf '%s\r' "$1"; }

command "FEletter.txt"
command "CHlearner|student"    # CHANGE: pattern | replacement
command "AS3"                  # ASK 3: the cursor's line
read -r line
command "AS4"                  # ASK 4: the cursor's column
read -r column
command "PO1|1"                # POSITION: line 1, column 1
command "AS13"                 # ASK 13: the rest of the line from the cursor
read -r first
command "EM1|1|200000|1"       # EMIT core file 1 to this program, ended by a line $$$
count=0
while read -r text; do
    text=${text%"$cr"}
    [ "$text" = '$$$' ] && break
    last=$text
    count=$((count + 1))
done
{
    echo "first line is now: $first"
    echo "cursor was at line $line, column $column"
    echo "$count lines came back; the last is: $last"
} > letter.report
command "SAletter.out"         # SAVE
command "GO"                   # GOODBYE
