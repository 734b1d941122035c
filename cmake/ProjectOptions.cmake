# One interface target carries the language level, warnings and strict Qt defines for every target.
add_library(project_options INTERFACE)
target_compile_features(project_options INTERFACE cxx_std_20)
target_compile_options(project_options INTERFACE -Wall -Wextra -Wpedantic)
target_include_directories(project_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_definitions(project_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)
if(VEMLO_WARNINGS_AS_ERRORS)
    target_compile_options(project_options INTERFACE -Werror)
endif()
if(VEMLO_SANITIZE)
    target_compile_options(project_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()
if(VEMLO_FUZZ)
    # Coverage for libFuzzer in every library; only the fuzz targets link its main.
    target_compile_options(project_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
