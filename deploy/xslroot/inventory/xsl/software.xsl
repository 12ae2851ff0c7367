<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_Software: one instance per Product; a get keeps the product whose
     name (written as ProductName) and version are the keys. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="name" select="/QRVCIM/Attributes/Required[@name = 'ProductName']/@value"/>
  <xsl:variable name="version" select="/QRVCIM/Attributes/Required[@name = 'Version']/@value"/>

  <xsl:template match="/">
    <xsl:apply-templates
        select="/QRVCIM/Inventory/Software/Product[not($get) or (@name = $name and @version = $version)]"/>
  </xsl:template>

  <xsl:template match="Product">
    <xsl:text>instance of Korvex_Software&#10;{&#10;</xsl:text>
    <xsl:text>Name = "</xsl:text><xsl:value-of select="@name"/><xsl:text>";&#10;</xsl:text>
    <xsl:text>Version = "</xsl:text><xsl:value-of select="@version"/><xsl:text>";&#10;</xsl:text>
    <xsl:text>Vendor = "</xsl:text><xsl:value-of select="@vendor"/><xsl:text>";&#10;</xsl:text>
    <xsl:text>InstallDate = "absolute:</xsl:text><xsl:value-of select="@installed"/><xsl:text>";&#10;</xsl:text>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
