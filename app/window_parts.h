// The assembled window: the main window and every feature made on it, kept
// together so that the App holds only start-up, the tick and shutdown.
#pragma once

#include <memory>

namespace orbo {

class AccessExchange;
class CsvExchange;
class QuickFilterBox;
class AppServices;
class BackupsDialog;
class DatabasePropertiesDialog;
class Finder;
class FolderTable;
class FolderTreeModel;
class FormCanvas;
class FormDesigner;
class IntroDialog;
class MainWindow;
class ModeSwitch;
class Navigator;
class OptionsDialog;
class PrintDialog;
class PropertiesDialog;
class RecordEditor;
class Sorter;
class TitleFieldMenu;
struct WindowContext;

struct WindowParts {
  WindowParts();
  ~WindowParts();
  WindowParts(const WindowParts&) = delete;
  WindowParts& operator=(const WindowParts&) = delete;

  MainWindow& Window() { return *window; }
  FormCanvas& Canvas() { return *canvas; }
  RecordEditor& Editor() { return *editor; }
  FormDesigner& Designer() { return *designer; }
  // F5 / F6, and the lists of forms that follow the mode.
  ModeSwitch& Modes() { return *modeSwitch; }
  Finder& Find() { return *finder; }
  Sorter& Sorting() { return *sorter; }
  AccessExchange& Access() { return *access; }
  CsvExchange& Csv() { return *csv; }
  Navigator& Navigation() { return *navigator; }
  QuickFilterBox& QuickFilterBar() { return *quickFilter; }
  FolderTreeModel& Tree() { return *tree; }
  FolderTable& Table() { return *table; }
  // The print dialog, made at its first use.
  PrintDialog& Printing();

  // In the order they are made, so that they go in the reverse order: each
  // before the parts it was given, which were made before it. The last two
  // are made at their first use.
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<AppServices> services;
  std::unique_ptr<IntroDialog> intro;
  std::unique_ptr<FolderTreeModel> tree;
  std::unique_ptr<FormCanvas> canvas;
  std::unique_ptr<Navigator> navigator;
  std::unique_ptr<QuickFilterBox> quickFilter;
  std::unique_ptr<Finder> finder;
  std::unique_ptr<AccessExchange> access;
  std::unique_ptr<CsvExchange> csv;
  std::unique_ptr<RecordEditor> editor;
  std::unique_ptr<FormDesigner> designer;
  std::unique_ptr<ModeSwitch> modeSwitch;
  std::unique_ptr<TitleFieldMenu> recordTitleMenu;
  std::unique_ptr<TitleFieldMenu> formTitleMenu;
  std::unique_ptr<Sorter> sorter;
  std::unique_ptr<FolderTable> table;
  std::unique_ptr<OptionsDialog> options;
  std::unique_ptr<DatabasePropertiesDialog> databaseProperties;
  std::unique_ptr<BackupsDialog> backups;
  std::unique_ptr<PropertiesDialog> properties;
  std::unique_ptr<PrintDialog> printing;
  WindowContext* context = nullptr;
};

}  // namespace orbo
