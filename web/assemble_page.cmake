cmake_minimum_required(VERSION 3.25)
# Puts the page together: the template's placeholders take the style sheet, the two module
# scripts and the page's script, each inlined, so that the one file needs nothing else. The
# page's script is its files in the order given, in one function of their own, so that what one
# file declares the others use and nothing reaches the page's global names.
# Run with cmake -P and -DTEMPLATE, -DSTYLE, -DSCRIPTS (a list), -DSIMD_MODULE, -DPLAIN_MODULE,
# -DOUTPUT; a test page's -DTEST_SCRIPT goes before the page's script, in the same element.
file(READ ${TEMPLATE} page)
file(READ ${STYLE} style)
set(script "(function () {\n'use strict';\n")
foreach(part IN LISTS SCRIPTS)
    file(READ ${part} text)
    string(APPEND script "\n${text}")
endforeach()
string(APPEND script "}());\n")
if(TEST_SCRIPT)
    file(READ ${TEST_SCRIPT} test_script)
    string(PREPEND script "${test_script}")
endif()
file(READ ${SIMD_MODULE} simd)
file(READ ${PLAIN_MODULE} plain)
foreach(part script simd plain)
    # A script's text ends at the first "</script" whatever the quotes around it.
    string(FIND "${${part}}" "</script" closing)
    if(NOT closing EQUAL -1)
        message(FATAL_ERROR "assemble_page: the ${part} script holds </script")
    endif()
endforeach()
string(REPLACE "@PAGE_STYLE@" "${style}" page "${page}")
string(REPLACE "@SIMD_MODULE@" "${simd}" page "${page}")
string(REPLACE "@PLAIN_MODULE@" "${plain}" page "${page}")
string(REPLACE "@PAGE_SCRIPT@" "${script}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
