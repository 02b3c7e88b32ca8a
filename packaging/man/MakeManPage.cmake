# Writes a gzip-compressed manual page from TEMPLATE to OUTPUT (cmake -P). With CLI set, the
# template's @ZENDRA_MAN_SYNOPSIS@ and @ZENDRA_MAN_COMMANDS@ are made from "CLI --help", so the
# page lists whatever commands the program has. With KEYS set, @ZENDRA_MAN_KEYS@ is what the
# program KEYS writes: the key lists of the desktop windows, made from their key tables, so the page
# lists the keys the windows have. Variables: TEMPLATE, OUTPUT (ends in .gz), PROJECT_VERSION,
# ZENDRA_MAN_DATE, GZIP, optionally CLI and KEYS.

# A description: backslashes and option dashes escaped, no control character at the line start.
function(man_text text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "--" "\\-\\-" text "${text}")
    if(text MATCHES "^[.']")
        set(text "\\&${text}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A synopsis: the command name and options bold, the placeholders (upper case) italic.
function(man_synopsis text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "([A-Z][A-Z0-9_]*)" "\\\\fI\\1\\\\fR" text "${text}")
    string(REGEX REPLACE "(--[a-z][a-z0-9-]*)" "\\\\fB\\1\\\\fR" text "${text}")
    string(REGEX REPLACE "^([a-z][a-z0-9-]*)" "\\\\fB\\1\\\\fR" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(ZENDRA_MAN_SYNOPSIS "")
set(ZENDRA_MAN_COMMANDS "")
if(CLI)
    execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${CLI} --help failed (${status})")
    endif()
    # The "usage:" lines at the top make the SYNOPSIS. Then one entry per line that starts with
    # two blanks and a command name: its synopsis runs to the first gap of two blanks, the rest of
    # the line and the more deeply indented lines after it describe it. Several usage lines in a
    # row (sub-commands) share the description below the last one. Lines are taken one by one (no
    # CMake lists: brackets would bind them).
    set(tags "")
    set(description "")
    string(APPEND help "\n")
    while(NOT help STREQUAL "")
        string(FIND "${help}" "\n" end)
        string(SUBSTRING "${help}" 0 ${end} line)
        math(EXPR end "${end} + 1")
        string(SUBSTRING "${help}" ${end} -1 help)
        if(line MATCHES "^(usage:)? +(zendra-icd10-cli( .*)?)$")
            man_synopsis("${CMAKE_MATCH_2}" synopsis)
            string(APPEND ZENDRA_MAN_SYNOPSIS "${synopsis}\n.br\n")
        elseif(line MATCHES "^  ([a-z][^ ].*)$")
            set(rest "${CMAKE_MATCH_1}")
            set(text "")
            if(rest MATCHES "^([^ ]+( [^ ]+)*)  +([^ ].*)$")
                set(rest "${CMAKE_MATCH_1}")
                set(text "${CMAKE_MATCH_3}")
            endif()
            man_synopsis("${rest}" synopsis)
            if(NOT tags STREQUAL "" AND description STREQUAL "")
                string(APPEND tags "\n.TQ\n${synopsis}")
            else()
                if(NOT tags STREQUAL "")
                    man_text("${description}" description)
                    string(APPEND ZENDRA_MAN_COMMANDS ".TP\n${tags}\n${description}\n")
                endif()
                set(tags "${synopsis}")
            endif()
            set(description "${text}")
        elseif(NOT tags STREQUAL "" AND line MATCHES "^   +([^ ].*)$")
            if(description STREQUAL "")
                set(description "${CMAKE_MATCH_1}")
            else()
                string(APPEND description " ${CMAKE_MATCH_1}")
            endif()
        endif()
    endwhile()
    if(NOT tags STREQUAL "")
        man_text("${description}" description)
        string(APPEND ZENDRA_MAN_COMMANDS ".TP\n${tags}\n${description}")
    endif()
    string(STRIP "${ZENDRA_MAN_SYNOPSIS}" ZENDRA_MAN_SYNOPSIS)
endif()

set(ZENDRA_MAN_KEYS "")
if(KEYS)
    execute_process(COMMAND ${KEYS} OUTPUT_VARIABLE ZENDRA_MAN_KEYS RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR ZENDRA_MAN_KEYS STREQUAL "")
        message(FATAL_ERROR "${KEYS} failed (${status}) or wrote no keys")
    endif()
    string(STRIP "${ZENDRA_MAN_KEYS}" ZENDRA_MAN_KEYS)
endif()

string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")
configure_file("${TEMPLATE}" "${page}" @ONLY)
# -n leaves the name and time out of the header: the same page always gives the same bytes.
execute_process(COMMAND ${GZIP} -9nf "${page}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${page}")
endif()
