# Fails when PROGRAM needs a GL, sound, SDL or picture library, directly or
# through another library (ldd lists the whole closure).
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE needed RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "ldd ${PROGRAM} failed")
endif()
foreach(forbidden libGL libEGL libGLX libSDL2 libopenal libsndfile libfreeimage libX11)
  string(FIND "${needed}" "${forbidden}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} needs ${forbidden}:\n${needed}")
  endif()
endforeach()
message(STATUS "${PROGRAM} needs:\n${needed}")
