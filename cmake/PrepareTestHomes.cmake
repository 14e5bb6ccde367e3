# Wipes ROOT and creates every folder of HOMES ('|'-separated).
file(REMOVE_RECURSE ${ROOT})
string(REPLACE "|" ";" homes "${HOMES}")
foreach(home IN LISTS homes)
    file(MAKE_DIRECTORY ${home})
endforeach()
