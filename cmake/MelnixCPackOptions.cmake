# Read by cpack. Packages are made from a build without the sanitizers; the
# package test sets CPACK_MELNIX_TEST_PACKAGE to look at one from the test build.
if(CPACK_MELNIX_SANITIZED AND NOT CPACK_MELNIX_TEST_PACKAGE)
  message(FATAL_ERROR "This build has the sanitizers on; make the package from a Release build:\n"
                      "  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release && cmake --build build/release\n"
                      "  cd build/release && cpack -G DEB")
endif()
