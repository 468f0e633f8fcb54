#!/bin/sh
# An example driver program for oru, in shell. Start it from this folder with
#
#     oru -d student.sh
#
# or from any other folder with its path, for example oru -d examples/drivers/student.sh.
#
# It does what student.py does: fetches letter.txt from its own folder, changes every "learner"
# into "student", asks where the cursor was left and what the first line says, has the file
# sent back with EMIT, writes the text to letter.out and what it learnt to letter.report (both
# in the folder oru was started in, replaced on every run) and ends the editor. Keys go to oru
# on standard output; oru's answers arrive on standard input, one line each.
#
# A command that fails shows a message that waits for Return, and that Return would be the end
# of this driver's next command: so the driver asks first (ASK 9, 10 and 11 answer silently).

cr=$(printf '\r')

command() { printf '%s\r' "$1"; }

give_up() {
    command "GO"                       # GOODBYE: nothing is unsaved yet
    echo "student.sh: $1" >&2
    exit 1
}

# The letter beside this script, named from the current folder (oru's too) or from the root,
# whichever is shorter: oru takes file names of at most 48 characters.
path="$(dirname -- "$0")/letter.txt"
letter=$(realpath -m --relative-to=. -- "$path")
absolute=$(realpath -m -- "$path")
[ ${#absolute} -lt ${#letter} ] && letter=$absolute
[ ${#letter} -le 48 ] || give_up "the path $letter is longer than the 48 characters oru takes"

command "AS9|$letter"                  # ASK 9: 1 when the file can be read
read -r readable
[ "$readable" = 1 ] || give_up "cannot read $letter"
command "FE$letter"                    # FETCH it into core file 1
command "CHlearner|student"            # CHANGE: pattern | replacement
command "AS3"                          # ASK 3: the cursor's line
read -r line
command "AS4"                          # ASK 4: the cursor's column
read -r column
command "PO1|1"                        # POSITION: line 1, column 1
command "AS13"                         # ASK 13: the rest of the line from the cursor
read -r first
command "EM1|1|200000|1"               # EMIT core file 1 to this program, ended by a line $$$
count=0
while read -r text; do
    text=${text%"$cr"}
    [ "$text" = '$$$' ] && break
    last=$text
    count=$((count + 1))
done

# SAVE only makes new files; OVERWRITE replaces one, after ASK 11 has made it if need be.
command "NAletter.out"                 # NAME: the core file is called letter.out from now on
command "AS10|letter.out"              # ASK 10: 1 when letter.out exists and may be written
read -r writable
if [ "$writable" != 1 ]; then
    command "AS11|letter.out"          # ASK 11: 1 when it could be made, and makes it
    read -r writable
fi
if [ "$writable" = 1 ]; then
    command "OV*"                      # OVERWRITE the file the core file is named after
else
    command "CL"                       # CLEAR, so GOODBYE has nothing to ask
fi

{
    echo "first line is now: $first"
    echo "cursor was at line $line, column $column"
    echo "$count lines came back; the last is: $last"
    [ "$writable" = 1 ] || echo "letter.out could not be written here"
} > letter.report
command "GO"                           # GOODBYE
