# A build whose sources speak needs the speech synthesiser: run mkres on a spoken sound with
# espeak-ng out of reach (an empty PATH) and it must fail and say why; with ZELBO_VOICE=tone
# it builds. Arguments: -DMKRES=<mkres> -DWORK=<scratch folder>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/nothing)
file(WRITE ${WORK}/speech.mkres "module 2\nSND M+990\n  speak \"Bra gjort!\"\nend\n")

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=ZELBO_VOICE PATH=${WORK}/nothing ${MKRES} ${WORK}/speech.mkres
          ${WORK}/speech.res
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0)
  message(FATAL_ERROR "mkres built spoken sounds without espeak-ng:\n${out}${err}")
endif()
if(NOT "${out}${err}" MATCHES "espeak-ng" OR NOT "${out}${err}" MATCHES "ZELBO_VOICE=tone")
  message(FATAL_ERROR "mkres failed without saying why the voice is missing:\n${out}${err}")
endif()
message(STATUS "without espeak-ng: ${err}")

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ZELBO_VOICE=tone PATH=${WORK}/nothing ${MKRES} ${WORK}/speech.mkres
          ${WORK}/speech.res
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/speech.res)
  message(FATAL_ERROR "mkres with ZELBO_VOICE=tone failed:\n${out}${err}")
endif()
file(REMOVE_RECURSE ${WORK})
