# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
lsg_add_gtest(chartgeom_tests LABEL gadget SOURCES chart_geom_test.cpp LIBS lsg_chartgeom)

if(LOADSPIRE_GUI)
    lsg_add_gtest(chart_tests LABEL gadget SOURCES chart_view_test.cpp NO_MAIN
        LIBS lsg_chart lsg_test_qtmain)
endif()
