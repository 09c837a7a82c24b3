// Netscape User Preferences of the example profile "guest".
user_pref("browser.startup.homepage", "http://www.example.com/");
