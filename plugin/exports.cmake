# The module's entry points: the one list of their names, in the order the
# host's interface lists them. The module's build and the release's check
# both read it.
set(MOSSGRAIN_EXPORTS
  GetPackerCaps PackFiles OpenArchive ReadHeader ProcessFile CloseArchive
  SetChangeVolProc SetProcessDataProc ConfigurePacker)
# The Linux module's two more: a Linux host hands its dialog services to
# them. On Windows the module's dialogs are windows of their own.
set(MOSSGRAIN_EXTENSION_EXPORTS ExtensionInitialize ExtensionFinalize)
