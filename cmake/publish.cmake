# lumaforge-publish, the catalog maintainers' tool: its checks and writer in a library that the
# tests share, and one small main per platform. Like app/, tools/ may include every folder of src/.
add_library(lumaforge_publish STATIC ${PROJECT_SOURCE_DIR}/tools/publish/publisher.cpp
                                     ${PROJECT_SOURCE_DIR}/tools/publish/package_rules.cpp)
target_include_directories(lumaforge_publish PUBLIC ${PROJECT_SOURCE_DIR}/tools)
target_link_libraries(lumaforge_publish PUBLIC lumaforge_core)

if(WIN32)
    add_executable(lumaforge-publish ${PROJECT_SOURCE_DIR}/tools/publish/main_win.cpp)
    target_link_libraries(lumaforge-publish PRIVATE lumaforge_publish lumaforge_win)
    target_link_options(lumaforge-publish PRIVATE -municode)
else()
    add_executable(lumaforge-publish ${PROJECT_SOURCE_DIR}/tools/publish/main_posix.cpp)
    target_link_libraries(lumaforge-publish PRIVATE lumaforge_publish)
endif()
set_target_properties(lumaforge-publish PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
