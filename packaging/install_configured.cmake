# Run by the install: the desktop entry and the manual page with the installed data folder
# (cmake --install's prefix, or /usr in the .deb), the manual page and the changelog compressed.
set(VIEWER_SHARE_DIR "${CMAKE_INSTALL_PREFIX}/${VIEWER_DATA_DIR}")
set(VIEWER_GUIDE "${CMAKE_INSTALL_PREFIX}/${VIEWER_DOC_DIR}/guide.md")
configure_file(${VIEWER_PACKAGING_DIR}/${VIEWER_APP_ID}.desktop.in ${VIEWER_STAGING_DIR}/${VIEWER_APP_ID}.desktop @ONLY)
configure_file(${VIEWER_PACKAGING_DIR}/quillmere-viewer.1.in ${VIEWER_STAGING_DIR}/quillmere-viewer.1 @ONLY)
configure_file(${VIEWER_PACKAGING_DIR}/changelog.in ${VIEWER_STAGING_DIR}/changelog @ONLY)
execute_process(COMMAND gzip -9nf quillmere-viewer.1 changelog WORKING_DIRECTORY ${VIEWER_STAGING_DIR} COMMAND_ERROR_IS_FATAL ANY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VIEWER_APPS_DIR}" TYPE FILE FILES ${VIEWER_STAGING_DIR}/${VIEWER_APP_ID}.desktop)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VIEWER_MAN_DIR}/man1" TYPE FILE FILES ${VIEWER_STAGING_DIR}/quillmere-viewer.1.gz)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VIEWER_DOC_DIR}" TYPE FILE FILES ${VIEWER_STAGING_DIR}/changelog.gz)
