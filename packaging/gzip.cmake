# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# cmake -DGZIP=gzip -DIN=file -DOUT=file.gz -P gzip.cmake: compresses IN at the highest level,
# without the name or time stamp, so that the same input always gives the same bytes.
execute_process(COMMAND "${GZIP}" -9n -c "${IN}" OUTPUT_FILE "${OUT}" COMMAND_ERROR_IS_FATAL ANY)
